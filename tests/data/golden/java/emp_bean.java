/**
 *  Emp Bean
 */
public class Emp
{
    private int empno;
    private String ename;
    private BigDecimal sal;

    public Emp(
      int empno,
      String ename,
      BigDecimal sal)
    {
        this.empno = empno;
        this.ename = ename;
        this.sal = sal;
    }

    public int getEmpno()
    {
        return empno;
    }

    public void setEmpno(int empno)
    {
        this.empno = empno;
    }

    public String getEname()
    {
        return ename;
    }

    public void setEname(String ename)
    {
        this.ename = ename;
    }

    public BigDecimal getSal()
    {
        return sal;
    }

    public void setSal(BigDecimal sal)
    {
        this.sal = sal;
    }
}
