import java.sql.*;
import oracle.jdbc.pool.*;

/**
 *  EmpDAO
 */
public class EmpDAO implements <YourDAOInterface>
{
    private static String FIND_BEAN_SQL = 
        "select"
      + "  ENAME,"
      + "  SAL "
      + "from"
      + "  SHOP.EMP "
      + "where"
      + "  EMPNO = ?";

    private static String INSERT_BEAN_SQL = 
        "insert into SHOP.EMP"
      + "  (EMPNO) "
      + "values"
      + "  (?)";

    private static String UPDATE_BEAN_SQL = 
        "update"
      + "  SHOP.EMP "
      + "set"
      + "  ENAME = ?,"
      + "  SAL = ? "
      + "where"
      + "  EMPNO = ?";

    private static String DELETE_BEAN_SQL = 
        "delete "
      + "  SHOP.EMP "
      + "where"
      + "  EMPNO = ?";

    private OracleConnectionPoolDataSource oracleDataSource;

    public EmpDAO()
    {
      // initialization
    }

    public void setOracleDataSource(OracleConnectionPoolDataSource oracleDataSource)
    {
        this.oracleDataSource = oracleDataSource;
    }

    public Emp findEmp(int empno) throws SQLException
    {
        Emp bean = null;

        PooledConnection pc = oracleDataSource.getPooledConnection();

        Connection con = null;
        PreparedStatement ps = null;
        ResultSet rs = null;

        try
        {
            con = pc.getConnection();
            ps = con.prepareStatement(FIND_BEAN_SQL);
            ps.setInt(1, empno);
            rs = ps.executeQuery();

            if (rs.next())
            {
                bean = new Emp();
                bean.setEmpno(rs.getInt("EMPNO"));
                bean.setEname(rs.getString("ENAME"));
                bean.setSal(rs.getBigDecimal("SAL"));
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

    public void insertEmp(int empno)
    {
        PooledConnection pc = oracleDataSource.getPooledConnection();

        Connection con = null;
        PreparedStatement ps = null;

        try
        {
            con = pc.getConnection();
            ps = con.prepareStatement(INSERT_BEAN_SQL);
            ps.setInt(1, empno);
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

    public void updateEmp(
      String ename,
      BigDecimal sal,
      int empno)
    {
        PooledConnection pc = oracleDataSource.getPooledConnection();

        Connection con = null;
        PreparedStatement ps = null;

        try
        {
            con = pc.getConnection();
            ps = con.prepareStatement(UPDATE_BEAN_SQL);
            ps.setString(1, ename);
            ps.setBigDecimal(2, sal);
            ps.setInt(3, empno);
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

    public void deleteEmp(int empno)
    {
        PooledConnection pc = oracleDataSource.getPooledConnection();

        Connection con = null;
        PreparedStatement ps = null;

        try
        {
            con = pc.getConnection();
            ps = con.prepareStatement(DELETE_BEAN_SQL);
            ps.setInt(1, empno);
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
