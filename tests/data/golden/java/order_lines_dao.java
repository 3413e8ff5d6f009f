import java.sql.*;
import oracle.jdbc.pool.*;

/**
 *  Order_linesDAO
 */
public class Order_linesDAO implements <YourDAOInterface>
{
    private static String FIND_BEAN_SQL = 
        "select"
      + "  PRODUCT,"
      + "  SHIPPED "
      + "from"
      + "  \"shop\".\"order_Lines\" "
      + "where"
      + "  LINE_NO = ? and "
      + "  ORDER_ID = ?";

    private static String INSERT_BEAN_SQL = 
        "insert into \"shop\".\"order_Lines\""
      + "  (LINE_NO,ORDER_ID) "
      + "values"
      + "  (?, ?)";

    private static String UPDATE_BEAN_SQL = 
        "update"
      + "  \"shop\".\"order_Lines\" "
      + "set"
      + "  PRODUCT = ?,"
      + "  SHIPPED = ? "
      + "where"
      + "  LINE_NO = ? and "
      + "  ORDER_ID = ?";

    private static String DELETE_BEAN_SQL = 
        "delete "
      + "  \"shop\".\"order_Lines\" "
      + "where"
      + "  LINE_NO = ? and "
      + "  ORDER_ID = ?";

    private OracleConnectionPoolDataSource oracleDataSource;

    public Order_linesDAO()
    {
      // initialization
    }

    public void setOracleDataSource(OracleConnectionPoolDataSource oracleDataSource)
    {
        this.oracleDataSource = oracleDataSource;
    }

    public Order_lines findOrder_lines(int line_no,int order_id) throws SQLException
    {
        Order_lines bean = null;

        PooledConnection pc = oracleDataSource.getPooledConnection();

        Connection con = null;
        PreparedStatement ps = null;
        ResultSet rs = null;

        try
        {
            con = pc.getConnection();
            ps = con.prepareStatement(FIND_BEAN_SQL);
            ps.setInt(1, line_no);
            ps.setInt(2, order_id);
            rs = ps.executeQuery();

            if (rs.next())
            {
                bean = new Order_lines();
                bean.setOrder_id(rs.getInt("ORDER_ID"));
                bean.setProduct(rs.getString("PRODUCT"));
                bean.setShipped(rs.getDate("SHIPPED"));
                bean.setQty(rs.getInt("QTY"));
                bean.setLine_no(rs.getInt("LINE_NO"));
            }
        }
        finally
        {
            try
            {
                if (rs != null)
                {
                    rs.close();
                }
            } catch(Exception e) {}

            try
            {
                if (ps != null)
                {
                    ps.close();
                }
            } catch(Exception e) {}
        }

        return bean;
    }

    public void insertOrder_lines(int line_no,int order_id)
    {
        PooledConnection pc = oracleDataSource.getPooledConnection();

        Connection con = null;
        PreparedStatement ps = null;

        try
        {
            con = pc.getConnection();
            ps = con.prepareStatement(INSERT_BEAN_SQL);
            ps.setInt(1, line_no);
            ps.setInt(2, order_id);
            ps.execute();
        }
        finally
        {
            try
            {
                if (ps != null)
                {
                    ps.close();
                }
            } catch(Exception e) {}
        }
    }

    public void updateOrder_lines(
      String product,
      Date shipped,
      int line_no,int order_id)
    {
        PooledConnection pc = oracleDataSource.getPooledConnection();

        Connection con = null;
        PreparedStatement ps = null;

        try
        {
            con = pc.getConnection();
            ps = con.prepareStatement(UPDATE_BEAN_SQL);
            ps.setString(1, product);
            ps.setDate(2, shipped);
            ps.setInt(3, line_no);
            ps.setInt(4, order_id);
            ps.execute();
        }
        finally
        {
            try
            {
                if (ps != null)
                {
                    ps.close();
                }
            } catch(Exception e) {}
        }
    }

    public void deleteOrder_lines(int line_no,int order_id)
    {
        PooledConnection pc = oracleDataSource.getPooledConnection();

        Connection con = null;
        PreparedStatement ps = null;

        try
        {
            con = pc.getConnection();
            ps = con.prepareStatement(DELETE_BEAN_SQL);
            ps.setInt(1, line_no);
            ps.setInt(2, order_id);
            ps.execute();
        }
        finally
        {
            try
            {
                if (ps != null)
                {
                    ps.close();
                }
            } catch(Exception e) {}
        }
    }
}
