/**
 *  Order_lines Bean
 */
public class Order_lines
{
    private int order_id;
    private String product;
    private Date shipped;
    private int qty;
    private int line_no;

    public Order_lines(
      int order_id,
      String product,
      Date shipped,
      int qty,
      int line_no)
    {
        this.order_id = order_id;
        this.product = product;
        this.shipped = shipped;
        this.qty = qty;
        this.line_no = line_no;
    }

    public int getOrder_id()
    {
        return order_id;
    }

    public void setOrder_id(int order_id)
    {
        this.order_id = order_id;
    }

    public String getProduct()
    {
        return product;
    }

    public void setProduct(String product)
    {
        this.product = product;
    }

    public Date getShipped()
    {
        return shipped;
    }

    public void setShipped(Date shipped)
    {
        this.shipped = shipped;
    }

    public int getQty()
    {
        return qty;
    }

    public void setQty(int qty)
    {
        this.qty = qty;
    }

    public int getLine_no()
    {
        return line_no;
    }

    public void setLine_no(int line_no)
    {
        this.line_no = line_no;
    }
}
